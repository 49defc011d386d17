select *

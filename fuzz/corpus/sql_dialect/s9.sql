select * from ar
